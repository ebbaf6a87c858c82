#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidewell::ftp {

// One entry of a directory listing as the server described it.
struct ListEntry {
    std::string name;          // for a symbolic link, the link's own name (no " -> target")
    std::uint64_t size = 0;    // bytes; 0 when the server gives none
    std::int64_t modified = 0; // seconds since the epoch (UTC); 0 when unknown
    bool isDirectory = false;
    bool isLink = false;

    bool operator==(const ListEntry&) const = default;
};

enum class ListingFormat {
    Mlsd, // RFC 3659 machine listing
    List, // LIST output: Unix ls -l, DOS/IIS or EPLF, detected per line
};

// One MLSD line ("fact=value;fact=value; name"). std::nullopt when it is not one.
std::optional<ListEntry> ParseMlsdLine(std::string_view line);

// One LIST line in any known style. `now` (seconds since the epoch) settles the
// year of Unix entries that show a time of day instead of a year.
// std::nullopt for lines that describe no entry ("total 12", blank, unknown).
std::optional<ListEntry> ParseListLine(std::string_view line, std::int64_t now);

// A whole listing split at CRLF or LF; lines that describe no entry are
// skipped. std::nullopt when the data is not a text listing (holds NUL bytes).
std::optional<std::vector<ListEntry>> ParseListing(std::string_view data, ListingFormat format,
                                                   std::int64_t now);

// Whether a line of the listing describes an entry; false for data that is not text.
bool HoldsEntry(std::string_view data, ListingFormat format);

} // namespace tidewell::ftp
