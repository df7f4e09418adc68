// CPropertySheet and CPropertyPage: a tabbed dialog of pages with OK and
// Cancel (no Apply), the application's icon in its caption, and the
// keyboard in the first page's first control when it opens.
//
//   class CMyPage : public CPropertyPage { ... };   // one tab
//   CPropertySheet sheet(caption, parent);
//   sheet.AddPage(new CMyPage);                    // tabs in this order
//   sheet.exec();
//
// A page checks its values when it is left and when the sheet closes with
// OK (OnKillActive); a refusal keeps the page on show.  On OK each page then
// takes its values out of its controls (OnOK), and when the sheet closes,
// either way, each page hears of it (OnDestroyPage).
#pragma once

#include <QDialog>
#include <QString>
#include <QWidget>

class QDialogButtonBox;
class QTabWidget;

namespace platform {

class CPropertyPage : public QWidget {
    Q_OBJECT

public:
    explicit CPropertyPage(const QString& title, QWidget* parent = nullptr);

    // The tab's caption.
    const QString& Title() const { return m_strTitle; }
    // The page has been shown at least once.
    bool WasShown() const { return m_bShown; }

    // The page is being left, or the sheet closes with OK while it is on
    // show: false (after the refusal has been shown and the box focused)
    // keeps it on show.
    virtual bool OnKillActive() { return true; }
    // The sheet closes with OK: takes the values out of the controls.  False
    // (after a refusal) keeps the sheet open.
    virtual bool OnOK() { return true; }
    // The sheet is closing, with OK or Cancel.
    virtual void OnDestroyPage() {}

protected:
    void showEvent(QShowEvent* event) override;
    // Runs once, when the page is first shown.
    virtual void OnInitPage() {}

private:
    QString m_strTitle;
    bool m_bShown = false;
};

class CPropertySheet : public QDialog {
    Q_OBJECT

public:
    explicit CPropertySheet(const QString& caption, QWidget* parent = nullptr);

    // Adds `page` as the next tab; the sheet owns it.  The first page added
    // gets the keyboard.
    void AddPage(CPropertyPage* page);
    int PageCount() const;
    CPropertyPage* PageAt(int index) const;

    QTabWidget* Tabs() const { return m_pTabs; }
    QDialogButtonBox* Buttons() const { return m_pButtons; }

    // OK: the page on show checks its values, then every page takes its
    // values; the sheet closes only when all of them agree.
    void accept() override;
    // Closing either way: every page hears of it.
    void done(int result) override;

private:
    void OnPageChanged(int index);

    QTabWidget* m_pTabs = nullptr;
    QDialogButtonBox* m_pButtons = nullptr;
    int m_nActivePage = 0;
    bool m_bSwitchingBack = false;
};

}  // namespace platform
