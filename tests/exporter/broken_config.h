#pragma once

// A configuration text the reader must refuse, and what its refusal must name.
struct BrokenConfig {
    const char* text;
    int line;
    const char* field;
    const char* says;  // a part of the message
};
