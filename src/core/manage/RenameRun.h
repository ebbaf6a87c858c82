#pragma once

#include "core/app/Run.h"

#include <functional>
#include <string>

namespace tidewell {

struct RenameRequest {
    std::string from;
    std::string to;
    bool directory = false;    // a directory row
    bool targetListed = false; // the listed directory already holds an entry named `to`
};

// Renames one entry of the listed directory. Many servers replace an existing
// target without a word, so a name the listing already holds is refused here,
// as is "..", whose rename would move the parent directory; a refusal from
// the server is said by the kind of row.
class RenameRun : public Run {
public:
    // Called with whether the entry was renamed.
    using Done = std::function<void(bool renamed)>;

    RenameRun(RenameRequest request, Done done) : request_(std::move(request)), done_(std::move(done)) {}

    void Execute(RunContext& context) override;
    void Finish() override { done_(renamed_); }

private:
    const RenameRequest request_;
    Done done_;
    bool renamed_ = false;
};

} // namespace tidewell
