#include "gui/app/WindowLayout.h"

#include "resources/ResourceIds.h"

#include <QWidget>

namespace tidewell {

using namespace res;

WindowLayout::WindowLayout(QWidget& client, std::function<QWidget*(int)> control)
    : client_(client), control_(std::move(control)) {}

void WindowLayout::Record() {
    auto place = [this](int id) { return control_(id)->geometry(); };
    rules_.emplace(ListingTemplate{client_.size(), place(IDC_UP), place(IDC_DELETE), place(IDC_NEW_DIR),
                                   place(IDC_DETAILS), place(IDC_REMOTE_LIST), place(IDC_LISTING_GROUP),
                                   place(IDC_FILE_COUNT), place(IDC_TOTAL_SIZE), place(IDC_DIR_COUNT)});
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
