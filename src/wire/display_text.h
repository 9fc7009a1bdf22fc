#pragma once

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>
#include <string_view>

// printf-style formatting for the texts the windows show, in the C locale's notation.
std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// count * 100 / total in unsigned arithmetic, as "%d". A total of 0 shows "0" instead of
// dividing by zero; more steps than announced may show above 100.
std::string progressPercentText(std::uint32_t count, std::uint32_t total);

// "%2.2f": the current position fields.
std::string positionText(double degrees);

// What the user reads when the identification chain stops because reply 3 or 4 never came
// (or came unusable): which answer is missing, and how to ask again. For reply 4, index is
// the zero-based satellite that was asked for and count the region's satellites.
std::string lostChainReplyText(std::uint8_t code, std::uint32_t index, std::uint32_t count);

// The box for a line that went away under us; questionVoided when a question about that line
// was open and has been closed unanswered.
std::string hangupText(const std::string& portName, bool questionVoided = false);
// The same as one line inside a window that connects again by itself: what happened, that
// Skyrelay is at it, and what to check meanwhile.
std::string hangupNoticeText(const std::string& portName, bool questionVoided = false);
// The same bar while devices named at start-up are not there yet.
std::string awaitedDevicesNoticeText(const std::vector<std::string>& names);
// The box for a command given up after limit of sending it without a reply; name says what
// the command is (and which part of the LCD block).
std::string unansweredCommandText(std::uint8_t code, const std::string& name,
                                  std::chrono::seconds limit);
// The box for receive bytes the queue had no room for; dropped counts since the port opened.
std::string queueFullText(std::uint64_t dropped);
// Messages of one kind share one box on screen: a repeat while it is open updates it instead
// of stacking another. The kind is the text itself, except for the texts above, whose port
// name or count changes from one repeat to the next.
std::string messageKind(const std::string& text);

// A whole number in decimal, no padding: the one way a count or a field is written out.
std::string numberText(std::int64_t value);

// The text a code stands for in texts (code 0 the first), nothing for a code past the list.
std::optional<std::string> codeText(std::uint8_t code, std::initializer_list<const char*> texts);

// Without the blanks (spaces and tabs) that pad fixed-width fields and frame typed texts.
std::string trimmed(std::string_view text);
// Without the spaces around it; a tab at either end stays, as it is part of what was written.
std::string withoutSpacesAround(std::string_view text);
// Every tab as one space, for a value that must stay one field of a line.
std::string tabsAsSpaces(std::string text);

// Our 8-bit texts (one byte or one code unit a character, the character of that code) as
// UTF-8, for a terminal, a JSON document or a file. A lone surrogate, which could only be half
// a character, shows as U+FFFD.
std::string latin1ToUtf8(std::u16string_view text);
std::string latin1ToUtf8(std::string_view bytes);

// A text of the windows as UTF-8, for files written from the core; trailing blanks of
// fixed-width names are dropped.
std::string utf8Text(std::u16string_view text);
