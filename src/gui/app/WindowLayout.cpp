#include "gui/app/WindowLayout.h"

#include "resources/ResourceIds.h"

#include <QWidget>

#include <set>

namespace tidewell {

using namespace res;

namespace {
const int kListingControls[] = {IDC_UP,         IDC_DELETE,      IDC_NEW_DIR,
                                IDC_DETAILS,    IDC_REMOTE_LIST, IDC_LISTING_GROUP,
                                IDC_FILE_COUNT, IDC_TOTAL_SIZE,  IDC_DIR_COUNT};
} // namespace

WindowLayout::WindowLayout(QWidget& client, std::function<QWidget*(int)> control)
    : client_(client), control_(std::move(control)) {}

void WindowLayout::Record() {
    auto place = [this](int id) { return control_(id)->geometry(); };
    std::set<QWidget*> listing;
    for (int id : kListingControls) {
        listing.insert(control_(id));
    }
    QRect fixedArea;
    for (QWidget* child : client_.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!listing.contains(child)) {
            fixedArea |= child->geometry();
        }
    }
    rules_.emplace(ListingTemplate{client_.size(), place(IDC_UP), place(IDC_DELETE), place(IDC_NEW_DIR),
                                   place(IDC_DETAILS), place(IDC_REMOTE_LIST), place(IDC_LISTING_GROUP),
                                   place(IDC_FILE_COUNT), place(IDC_TOTAL_SIZE), place(IDC_DIR_COUNT),
                                   fixedArea});
}

QSize WindowLayout::MinimumClient() const {
    return rules_ ? rules_->MinimumClient() : QSize();
}

void WindowLayout::Apply() {
    if (!rules_) {
        return;
    }
    const ListingPlacement p = rules_->Place(client_.size());
    const std::pair<int, const QRect&> places[] = {
        {IDC_UP, p.up},           {IDC_DELETE, p.deleteButton}, {IDC_NEW_DIR, p.newDir},
        {IDC_DETAILS, p.details}, {IDC_REMOTE_LIST, p.list},    {IDC_LISTING_GROUP, p.group},
    };
    for (const auto& [id, rect] : places) {
        control_(id)->setGeometry(rect);
    }
    const std::pair<int, bool> shown[] = {
        {IDC_UP, p.buttonsShown},           {IDC_DELETE, p.buttonsShown},
        {IDC_NEW_DIR, p.buttonsShown},      {IDC_DETAILS, p.detailsShown},
        {IDC_FILE_COUNT, p.fileCountShown}, {IDC_TOTAL_SIZE, p.totalSizeShown},
        {IDC_DIR_COUNT, p.dirCountShown},
    };
    for (const auto& [id, visible] : shown) {
        control_(id)->setHidden(!visible);
    }
}

} // namespace tidewell
