// CAboutDlg: the "About Quillbox" box with the program icon, version, author
// and two links (e-mail and home page).
#pragma once

#include <QDialog>

namespace shell {

class CLinkStatic;

inline constexpr const char* kAuthorName = "The Quillbox developers";
inline constexpr const char* kAuthorEmail = "quillbox@example.org";
inline constexpr const char* kHomePageUrl = "https://quillbox.example.org/";

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    CLinkStatic* EmailLink() const { return m_pEmailLink; }
    CLinkStatic* HomePageLink() const { return m_pHomePageLink; }

private:
    CLinkStatic* m_pEmailLink = nullptr;
    CLinkStatic* m_pHomePageLink = nullptr;
};

}  // namespace shell
