#pragma once

#include "core/profiles/ArchiveString.h"
#include "core/profiles/SiteProfile.h"

#include <QWidget>

#include <map>

class QLineEdit;

namespace tidewell {

class MainDialog;

// The fields of one site under its tab. The profile strings are what the rest
// of the program uses; Pull and Push copy them from and to the fields.
class TabPane : public QWidget {
    Q_OBJECT
public:
    explicit TabPane(QWidget* parent = nullptr);

    void SetOwner(MainDialog* owner) { owner_ = owner; }
    MainDialog* Owner() const { return owner_; }

    // Marks the site changed and shows " *]" at the end of the owner's title.
    void MarkModified();

    void Pull();
    void Push();

    // One profile record of the settings file. Store writes the strings as they
    // are (pull first); Load reads a record and shows it in the fields, and
    // leaves everything as it was when the record is cut short.
    void Store(ArchiveWriter& out) const;
    bool Load(ArchiveReader& in);

    // Read-only while a run is busy.
    void SetReadOnly(bool readOnly);

    QLineEdit* Field(int id) const;
    QLineEdit* AddressEdit() const;
    QLineEdit* UsernameEdit() const;
    QLineEdit* PasswordEdit() const;
    QLineEdit* DirectoryEdit() const;

    bool modified = false;
    SiteProfile profile;

protected:
    // Enter and Escape inside a pane neither close nor hide anything.
    void keyPressEvent(QKeyEvent* event) override;

private:
    MainDialog* owner_ = nullptr;
    std::map<int, QLineEdit*> fields_;
};

} // namespace tidewell
