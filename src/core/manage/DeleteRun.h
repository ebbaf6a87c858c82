#pragma once

#include "core/app/Run.h"
#include "core/manage/RemoteTreeDelete.h"
#include "core/session/ConnectionMaker.h"
#include "core/session/ListingRun.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tidewell {

class RemoteDirectories;

// One selected row of the remote list.
struct DeleteRow {
    std::string name;
    bool directory = false; // a directory row (".." included)
};

struct DeleteRequest {
    std::vector<DeleteRow> rows; // the selected rows, in list order
    int maxDepth = RemoteTreeDelete::kMaxDepth;
    // A tree's files go over this many connections at once, the extra ones made by `more`.
    int connections = 1;
    std::optional<ConnectionMaker> more{};
};

// What a delete run leaves for the window.
struct DeleteOutcome {
    // Without a listing the run ended early and the list keeps its rows,
    // less the deleted ones.
    ListingOutcome listing;
    std::vector<std::size_t> deleted; // indexes into the request's rows
};

// The delete run: after the confirmation, deletes the selected rows one by one
// from the first: files, empty directories, and after a question directories
// with their whole tree. The first refusal ends the run with its message; the
// directory is then listed again, except after the two refusals that leave
// the list as it stands.
class DeleteRun : public Run {
public:
    using Done = std::function<void(DeleteOutcome)>;

    DeleteRun(DeleteRequest request, Done done);

    // A cancel ends the run after the entry in flight, which must not be cut off.
    bool CancelCutsWaits() const override { return false; }
    void Execute(RunContext& context) override;
    void Finish() override { done_(std::move(outcome_)); }

private:
    enum class Step { Deleted, Stop, StopWithoutListing };

    Step DeleteFile(const std::string& name);
    Step DeleteDirectory(const std::string& name);
    // How many entries the directory holds; 0 when it cannot be entered or read.
    std::size_t CountEntries(const std::string& path);
    Step DeleteTree(const std::string& name);
    // One message naming what a tree delete left out (the first few of them).
    void Name(const std::string& heading, const std::vector<std::string>& names);
    Answer Say(const std::string& text, const char* caption, MessageIcon icon,
               MessageButtons buttons = MessageButtons::Ok);

    DeleteRequest request_;
    Done done_;
    RunContext* context_ = nullptr;
    RemoteDirectories* remote_ = nullptr; // while Execute runs
    std::string listed_;                  // the directory the rows were listed from
    DeleteOutcome outcome_;
};

} // namespace tidewell
