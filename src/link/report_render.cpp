// The service report as HTML and as JSON. The HTML keeps to what Qt's rich text draws well
// (tables, headings, inline styles), since the window prints its PDF from the same text.

#include <nlohmann/json.hpp>

#include "link/service_report.h"

namespace {

std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\n':
                out += "<br>";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// "Acknowledged" -> "acknowledged", "No." -> "no"
std::string jsonName(const std::string& column) {
    std::string name;
    for (const char c : column) {
        if (c >= 'A' && c <= 'Z')
            name += static_cast<char>(c - 'A' + 'a');
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            name += c;
        else if (c == ' ' && !name.empty())
            name += '_';
    }
    return name;
}

const char* const kStyle =
    "body { font-family: 'DejaVu Sans', sans-serif; font-size: 9pt; }"
    "h1 { font-size: 15pt; margin-bottom: 2px; }"
    "h2 { font-size: 11pt; margin-top: 10px; margin-bottom: 3px; }"
    "table { border-collapse: collapse; }"
    "td, th { border: 1px solid #999999; padding: 2px 5px; text-align: left; }"
    "th { background-color: #e6e6e6; }"
    "td.label { background-color: #f3f3f3; }"
    "td.no { color: #b00000; font-weight: bold; }"
    "p.caption { color: #555555; margin: 0px; }";

void sectionHtml(std::string& html, const ReportSection& section) {
    html += "<h2>" + escaped(section.title) + "</h2>\n<table cellspacing=\"0\" width=\"100%\">\n";
    for (const ReportField& field : section.fields) {
        html += "<tr><td class=\"label\" width=\"30%\">" + escaped(field.label) + "</td><td>" +
                escaped(field.value) + "</td></tr>\n";
    }
    html += "</table>\n";
}

void tableHtml(std::string& html, const ReportTable& table) {
    html += "<h2>" + escaped(table.title) + "</h2>\n";
    if (!table.caption.empty()) html += "<p class=\"caption\">" + escaped(table.caption) + "</p>\n";
    if (table.rows.empty()) {
        html += "<p>" + escaped(table.empty) + "</p>\n";
        return;
    }
    html += "<table cellspacing=\"0\" width=\"100%\">\n<tr>";
    for (const std::string& column : table.columns) html += "<th>" + escaped(column) + "</th>";
    html += "</tr>\n";
    for (const auto& row : table.rows) {
        html += "<tr>";
        for (std::size_t i = 0; i < row.size(); ++i) {
            // What the ACU never acknowledged or failed must catch the reader's eye.
            const bool alarm =
                row[i] == "FAIL" ||
                (i < table.columns.size() && table.columns[i] == "Acknowledged" && row[i] == "No");
            html += alarm ? "<td class=\"no\">" : "<td>";
            html += escaped(row[i]) + "</td>";
        }
        html += "</tr>\n";
    }
    html += "</table>\n";
}

}  // namespace

std::string renderReportHtml(const ServiceReport& report) {
    std::string html = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" +
                       escaped(report.title) + "</title>\n<style>" + kStyle +
                       "</style></head>\n<body>\n<h1>" + escaped(report.title) +
                       "</h1>\n<p><b>Date:</b> " + escaped(report.generated) + "</p>\n";
    if (!report.note.empty()) html += "<p><b>Note:</b> " + escaped(report.note) + "</p>\n";
    for (const ReportSection& section : report.sections) sectionHtml(html, section);
    for (const ReportTable& table : report.tables) tableHtml(html, table);
    html += "</body></html>\n";
    return html;
}

std::string renderReportJson(const ServiceReport& report) {
    nlohmann::ordered_json json;
    json["title"] = report.title;
    json["generated"] = report.generated;
    json["note"] = report.note;
    for (const ReportSection& section : report.sections) {
        nlohmann::ordered_json fields = nlohmann::ordered_json::object();
        for (const ReportField& field : section.fields) fields[field.key] = field.value;
        json[section.key] = fields;
    }
    for (const ReportTable& table : report.tables) {
        nlohmann::ordered_json rows = nlohmann::ordered_json::array();
        for (const auto& row : table.rows) {
            nlohmann::ordered_json entry = nlohmann::ordered_json::object();
            for (std::size_t i = 0; i < row.size() && i < table.columns.size(); ++i) {
                entry[jsonName(table.columns[i])] = row[i];
            }
            rows.push_back(entry);
        }
        if (!table.caption.empty()) json[table.key + "_caption"] = table.caption;
        json[table.key] = rows;
    }
    // Texts that are not valid UTF-8 are replaced rather than refused: a report must be written.
    return json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}
