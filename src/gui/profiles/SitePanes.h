#pragma once

#include "core/profiles/SiteProfileSet.h"

#include <QObject>
#include <QPoint>

#include <array>
#include <string>

class QWidget;

namespace tidewell {

class TabPane;

// The seven site panes over the tab control, one shown at a time. Their edits
// mark the site profiles modified; pulling copies what the fields show into
// the profiles, pushing the other way.
class SitePanes : public QObject {
    Q_OBJECT
public:
    // The panes are children of parent, placed at origin.
    SitePanes(SiteProfileSet& sites, QWidget* parent, QPoint origin);

    TabPane* Pane(std::size_t site) const { return panes_.at(site); }
    TabPane* Current() const { return panes_.at(current_); }
    std::size_t CurrentIndex() const { return current_; }

    // Shows the site's pane, with the focus in its first field; the edits of
    // every pane are pulled first.
    void Select(std::size_t site);

    void PullAll();
    void PullCurrent();
    void PushAll();
    // The profiles as the fields show them now; nothing is stored.
    SiteProfiles FieldProfiles() const;

    // Stores directory as the current site's directory and shows it.
    void ShowDirectory(const std::string& directory);

    // Pulls every pane, then checks that the current site can be connected to;
    // says what is missing first (if showMessages) and puts the focus there.
    bool ValidateCurrent(bool showMessages);

private:
    SiteProfileSet& sites_;
    std::array<TabPane*, kSiteCount> panes_{};
    std::size_t current_ = 0;
};

} // namespace tidewell
