#include "core/profiles/SiteProfileSet.h"

#include <algorithm>

namespace tidewell {

bool SiteProfileSet::AnyModified() const {
    return std::ranges::find(modified_, true) != modified_.end();
}

void SiteProfileSet::MarkModified(std::size_t site) {
    MarkTitle();
    modified_.at(site) = true;
}

void SiteProfileSet::MarkPasswordChoiceChanged() {
    if (!AnyModified()) {
        MarkTitle();
    }
    modified_[0] = true;
}

void SiteProfileSet::ShowPlainTitle(const QString& settingsPath) {
    marked_ = false;
    SetTitle(QStringLiteral("Tidewell - [") + settingsPath + QLatin1Char(']'));
}

void SiteProfileSet::MarkTitle() {
    if (marked_) {
        return;
    }
    marked_ = true;
    // The marker replaces everything from the path's first "]" on.
    SetTitle(title_.left(title_.indexOf(QLatin1Char(']'))) + QStringLiteral(" *]"));
}

void SiteProfileSet::SetTitle(QString title) {
    title_ = std::move(title);
    if (titleChanged_) {
        titleChanged_(title_);
    }
}

} // namespace tidewell
