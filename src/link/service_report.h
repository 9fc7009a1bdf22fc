#pragma once

#include <string>
#include <vector>

class SessionLog;
struct LinkState;

// The record of a visit: what the session knows about the antenna, in the texts the pages
// show, and what the session changed and saw go wrong. Built from the link's state and the
// session log; rendered as HTML (the window's PDF comes from the same HTML) or JSON.

struct ReportField {
    std::string key;    // the JSON name
    std::string label;  // as the page labels it
    std::string value;
};

struct ReportSection {
    std::string key;
    std::string title;
    std::vector<ReportField> fields;
};

// A table: a heading per column, then rows of texts in the same order.
struct ReportTable {
    std::string key;
    std::string title;
    std::vector<std::string> columns;  // JSON names are these, lower-cased with '_'
    std::vector<std::vector<std::string>> rows;
    std::string empty;    // what a table without rows says instead
    std::string caption;  // when its contents were taken, if that matters
};

struct ServiceReport {
    std::string title;      // "Skyrelay Service Report"
    std::string generated;  // local time
    std::string note;       // vessel or site, technician: as typed
    std::vector<ReportSection> sections;
    std::vector<ReportTable> tables;
};

// The note from the save step's two fields, one line each, empty ones left out; the window and
// skyrelay-cli both build it here so a ticket reads the same from either.
std::string serviceReportNote(const std::string& site, const std::string& technician);

// The report as of now; note is the technician's free text.
ServiceReport buildServiceReport(const LinkState& state, const SessionLog& log,
                                 const std::string& note);

std::string renderReportHtml(const ServiceReport& report);
std::string renderReportJson(const ServiceReport& report);
