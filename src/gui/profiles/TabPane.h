#pragma once

#include "core/profiles/SiteProfile.h"

#include <QWidget>

#include <map>

class QLineEdit;

namespace tidewell {

// The four fields of one site under its tab. It knows nothing of the window:
// it shows a profile, reads its fields back, and says when they were edited.
class TabPane : public QWidget {
    Q_OBJECT
public:
    explicit TabPane(QWidget* parent = nullptr);

    // What the fields hold now.
    SiteProfile Fields() const;
    // Shows a profile; the fields whose text changes say so as typing would.
    void ShowProfile(const SiteProfile& profile);

    // Read-only while a run is busy.
    void SetReadOnly(bool readOnly);

    QLineEdit* Field(int id) const;
    QLineEdit* AddressEdit() const;
    QLineEdit* UsernameEdit() const;
    QLineEdit* PasswordEdit() const;
    QLineEdit* DirectoryEdit() const;

signals:
    // The address, username or directory text changed.
    void Edited();
    // The password text changed; whether that is an edit of the site depends
    // on whether passwords are saved with it.
    void PasswordEdited();

protected:
    // Enter and Escape inside a pane neither close nor hide anything.
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::map<int, QLineEdit*> fields_;
};

} // namespace tidewell
