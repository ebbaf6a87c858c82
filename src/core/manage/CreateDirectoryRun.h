#pragma once

#include "core/app/Run.h"

#include <functional>
#include <string>

namespace tidewell {

// Creates a directory of the given name in the listed directory. The checks
// say why nothing was made, in their order: no connection, no name, refused.
class CreateDirectoryRun : public Run {
public:
    // Called with whether the directory was made.
    using Done = std::function<void(bool created)>;

    CreateDirectoryRun(std::string name, Done done) : name_(std::move(name)), done_(std::move(done)) {}

    void Execute(RunContext& context) override;
    void Finish() override { done_(created_); }

private:
    const std::string name_;
    Done done_;
    bool created_ = false;
};

} // namespace tidewell
