#pragma once
#include "DialogWindow.h"
#include "HeldFiles.h"
#include "NothingLost.h"
#include "ProductFixture.h"
#include "QuimbexRun.h"

#include <memory>
#include <string>
#include <vector>

// A Quimbex command with a dialog of its own: the test starts it, works the
// dialog as a user does and reads every message box it shows.
class BookDialogFixture : public ProductFixture {
protected:
    struct Box {
        std::string caption;
        std::string text; // "\n" line breaks
        uidriver::IconKind icon;
        bool fromDialog;  // owned by the command's dialog
        bool waitShowing; // the wait dialog was on the screen beside it
        bool dialogTakesInput;
    };
    struct Book {
        CString key;
        int order;
        CString file;
    };

    void TearDown() override;

    // Starts Quimbex with `tail` and waits for its dialog.
    const uidriver::DialogWindow& Open(const char* tail, const char* caption);
    const uidriver::DialogWindow& Dialog() const { return *m_dialog; }
    const uidriver::Process& Program() const { return *m_program; }
    // Waits for the program's next message box, notes it and presses
    // `button` (the default button when null).
    Box NextBox(const char* button = nullptr);
    // A result message: from the dialog itself, with its caption and the
    // information icon, after the wait dialog has gone.
    static void ExpectResultBox(const Box& box, const char* caption);
    // A message of the framework's box: the program's name, the warning icon.
    static void ExpectPlainBox(const Box& box, const char* text);
    // The program ends without another message box.
    void ExpectEndsQuietly();
    // True when the dialog is still open once the program has done what it
    // was busy with: it answers a message sent after that, and takes input
    // again (waited for: the command gives it back after its last box).
    bool DialogStaysOpen() const;
    // Saves the dialog as <name>.bmp in the test output folder once it shows
    // its texts and no longer changes.
    void ScreenshotOfDialog(const char* name) const;

    // Today's backup name of the book with this key, as the program gave it
    // (the date of the start or of the end of the run).
    bool IsTodaysBackupName(const std::string& name, const std::string& key) const;
    // BookMNG.dat with these books, written in this order.
    void WriteBookMap(const std::vector<Book>& books);
    // The keys in the order in which a program that loads BookMNG.dat meets them.
    std::vector<CString> MapOrder() const;
    // Removes the dated backups that earlier runs left in the Excel folder.
    void RemoveBackups();

private:
    std::unique_ptr<uidriver::Process> m_program;
    std::unique_ptr<uidriver::DialogWindow> m_dialog;
    std::vector<std::string> m_dates;
};

// The text between `before` and `after` in `text`; empty when absent.
std::string Between(const std::string& text, const std::string& before, const std::string& after);
