#pragma once
// The history as a CSV file a spreadsheet opens as it is: UTF-8 with a byte-order mark (without it
// common spreadsheets read the Chinese words in the desktop's code page), one header line, one row
// per reading or day oldest first, ISO dates, a point before the decimal whatever the locale.

#include <optional>
#include <string>
#include <string_view>

#include "client/core/history/history_record.h"

inline constexpr std::string_view kCsvByteOrderMark = "\xEF\xBB\xBF";
inline constexpr std::string_view kHistoryCsvHeader = "类型,日期,时间,体重(kg),步数,睡眠(分钟),已上传,上传时间";

std::string HistoryCsv(const UserHistory& history);

// "Vymera_NAME_YYYY-MM-DD.csv" with the characters no file name may hold replaced, the name cut to
// a bound; "Vymera_YYYY-MM-DD.csv" for an empty name.
std::string HistoryCsvFileName(std::string_view userName, std::string_view isoDate);

// Writes the CSV into folder; the file's path, or nothing when it could not be written.
std::optional<std::string> ExportHistoryCsv(const std::string& folder, std::string_view userName,
                                            std::string_view isoDate, const UserHistory& history);
