#pragma once

#include "core/remote/ftp/ListingParser.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tidewell::ftp {

class ControlChannel;
class FtpConnection;

// A search of the connection's current directory. FindFile reads the whole
// listing at once, so the connection is free for Remove and OpenFile while the
// entries are stepped through.
//
//   FtpFileFind find(connection);
//   for (bool more = find.FindFile(); more;) {
//       more = find.FindNextFile();   // false: this entry is the last, still valid
//       use(find.GetFileName());
//   }
class FtpFileFind {
public:
    static constexpr std::size_t kMaxListingBytes = 256u * 1024 * 1024;

    explicit FtpFileFind(FtpConnection& connection);

    // No pattern (or "*") finds every entry; "name*" the entries whose names start
    // with name; any other pattern the entry of exactly that name. True when
    // something was found.
    bool FindFile(std::string_view pattern = {});
    // Makes the next entry current; false when that entry is the last one.
    bool FindNextFile();
    void Close();

    std::string GetFileName() const;
    std::uint64_t GetLength() const;
    std::int64_t GetLastWriteTime() const; // seconds since the epoch
    bool IsDirectory() const;
    bool IsDots() const;
    bool IsLink() const;

private:
    const ListEntry* Current() const;
    bool FetchListing(std::string& data, ListingFormat& format);

    std::shared_ptr<ControlChannel> channel_;
    std::vector<ListEntry> entries_;
    std::size_t next_ = 0;
    bool hasCurrent_ = false;
};

} // namespace tidewell::ftp
