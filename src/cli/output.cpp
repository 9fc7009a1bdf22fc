#include "cli/output.h"

#include <iostream>

void printJson(const nlohmann::json& document, bool oneLine) {
    // A byte from the ACU that is not text must not end the program: it shows as U+FFFD.
    std::cout << document.dump(oneLine ? -1 : 2, ' ', false,
                               nlohmann::json::error_handler_t::replace)
              << std::endl;
}
