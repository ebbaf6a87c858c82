#pragma once

#include "core/app/Run.h"
#include "core/transfer/TransferProgress.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace tidewell {

// What downloads and uploads share: the Transfer Status display handed to the
// window, the run's cancel (the button, or Cancel in the overwrite question),
// Yes To All, and the rule that after an error later files are passed over
// with each kind of message said once. Files may move over several
// connections at once: the display, the counts and the questions are then
// shared, one question at a time.
class RemoteError;
class RemoteFileSystem;

class TransferRun : public Run {
public:
    static constexpr std::size_t kBlockSize = 16384;
    // The most one read of a download's data takes at once.
    static constexpr std::size_t kReadBytes = 256 * 1024;

    // A cancel ends the run after the block in flight; the run then finishes
    // normally (a partial file is removed, the listing read), so its waits
    // must not be cut short.
    bool CancelCutsWaits() const override { return false; }

protected:
    // The blocks of the File bar that `got` more bytes complete after `done`.
    static std::int64_t BlocksOf(std::uint64_t done, std::size_t got) {
        return static_cast<std::int64_t>((done + got + kBlockSize - 1) / kBlockSize -
                                         (done + kBlockSize - 1) / kBlockSize);
    }
    // "<size>, modified on, <local date and time>".
    static std::string VersionLine(std::int64_t size, std::int64_t time);
    // Whether another try may mend a failed transfer: a lost connection, a
    // timeout, a cut data connection or a passing refusal (4xx) may pass; a
    // lasting refusal (5xx: no such file, not allowed, no space) will not.
    static bool WorthRetrying(const RemoteError& failure, bool connected);
    // After a resumed transfer: whether the server's copy of `name` (in the
    // connection's directory) and the local file hash alike. Unknown where
    // the server offers no hash command: the lengths were checked, nothing more can be.
    enum class Compared { Same, Different, Unknown };
    static Compared CompareWhole(RemoteFileSystem& connection, std::string_view name,
                                 const std::filesystem::path& local);

    bool Cancelled() const;
    // Hands the display to the window: per block only a change a person can
    // see (a percentage, a name), unless forced. Outside the files' own work,
    // which is done with ShowProgress.
    void Publish(bool force);
    // Changes the display and hands it on, from any connection's thread. The
    // File line and bar follow the file most recently started: `worker` (any
    // value that tells the connections apart) names whose file it is, and
    // `begins` makes it the one shown.
    template <class Change> void ShowProgress(const void* worker, bool begins, bool force, Change change) {
        const std::lock_guard lock(display_);
        if (begins) {
            shownWorker_ = worker;
        }
        if (worker == shownWorker_) {
            change(progress_);
            PublishLocked(force);
        }
    }
    // Shows the message the first time only.
    void Tell(const std::string& text, bool& said);
    // Stops copying, and tells.
    void Fail(const std::string& text, bool& said);
    // One message naming what the run leaves out (the first few of them).
    void TellSkipped(const std::string& heading, const std::vector<std::string>& skipped);
    // After the walk: drops a dead connection, saying so unless the failed
    // file's message did; true when it was dead.
    bool DropIfLost(bool said);
    // Asks before replacing a file, unless Yes To All was answered; Cancel cancels the run.
    bool MayReplace(const OverwriteQuestion& question);

    // What the run was asked for and what became of it, for its ending.
    void CountAsked(std::int64_t files) { asked_ += files; }
    void CountCopied() { ++copied_; }
    // A block of `worker`'s file has arrived: the File bar and time left when
    // that file is the one shown, the run's throughput always.
    void ShowBlock(const void* worker, BlockClock::time_point start, BlockClock::time_point end,
                   std::int64_t bytes);
    // One more file done, whether it arrived or not; none after a cancel.
    void StepSession();
    // Something asked for was left out without a file to count (a directory).
    void CountLeftOut() { leftOut_ = true; }
    // The completion notice when everything asked for arrived (or was
    // declined by the user), else what happened, counted.
    TransferEnding Ending() const;

    RunContext* context_ = nullptr;
    TransferProgress progress_;
    std::atomic<bool> stopped_{false}; // after an error, later files are passed over

private:
    void PublishLocked(bool force);

    std::mutex display_; // progress_ and published_ while several connections work
    const void* shownWorker_ = nullptr;
    std::mutex asking_; // one question at a time; the said flags and Yes To All
    TransferDisplay published_;
    std::atomic<bool> cancelled_{false}; // Cancel in the overwrite question
    bool overwriteAll_ = false;
    std::int64_t asked_ = 0;
    std::atomic<std::int64_t> copied_{0};
    std::atomic<std::int64_t> declined_{0}; // No in the overwrite question
    bool leftOut_ = false;
};

} // namespace tidewell
