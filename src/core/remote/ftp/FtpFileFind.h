#pragma once

#include "core/remote/ftp/FtpException.h"
#include "core/remote/ftp/ListingParser.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidewell::ftp {

class FtpConnection;

// A search of the connection's current directory. FindFile reads the whole
// listing at once, so the connection is free for Remove and OpenFile while the
// entries are stepped through. The connection must outlive the search.
//
//   FtpFileFind find(connection);
//   for (bool more = find.FindFile(); more;) {
//       more = find.FindNextFile();   // false: this entry is the last, still valid
//       use(find.GetFileName());
//   }
//
// FindFile's false means nothing was found OR the listing failed; LastResult
// tells which, and LastFailure says why.
class FtpFileFind {
public:
    static constexpr std::size_t kMaxListingBytes = 256u * 1024 * 1024;

    enum class Result {
        Found,   // at least one entry
        Nothing, // an empty directory, or no entry matches the pattern
        Failed,  // no listing: refused, timed out, connection lost, not a listing
    };

    // `marksLinks`: list in a form that tells links apart (see FtpConnection::ReadListing).
    explicit FtpFileFind(FtpConnection& connection, bool marksLinks = false);

    // No pattern (or "*") finds every entry; "name*" the entries whose names start
    // with name; any other pattern the entry of exactly that name. True when
    // something was found.
    bool FindFile(std::string_view pattern = {});
    // What the last FindFile came to (Nothing before the first); Close keeps it.
    Result LastResult() const { return result_; }
    // Why the last FindFile failed: the error code (kErrorReply, kTimeout,
    // kConnectionLost...) and the server's reply text when it refused. After
    // kTimeout and kConnectionLost the connection is closed.
    const std::optional<FtpException>& LastFailure() const { return failure_; }
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
    bool Fail(FtpException failure);

    FtpConnection& connection_;
    const bool marksLinks_;
    std::vector<ListEntry> entries_;
    Result result_ = Result::Nothing;
    std::optional<FtpException> failure_;
    std::size_t next_ = 0;
    bool hasCurrent_ = false;
};

} // namespace tidewell::ftp
