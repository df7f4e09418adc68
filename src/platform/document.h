// The base of the program's document: the one address book that is open.
//
// It keeps the book's path and title ("Untitled" for a book never saved, the
// file name for an opened one) and the modified flag, and offers the hooks
// that the document manager (doc_manager.h) calls for New, Open and Save.  A
// derived document does the actual reading and writing in the hooks and,
// when one fails, says why through SetFailureReason so that the user can be
// told.
#pragma once

#include <QObject>
#include <QString>

namespace platform {

class CDocument : public QObject {
    Q_OBJECT

public:
    explicit CDocument(QObject* parent = nullptr);
    ~CDocument() override;

    const QString& PathName() const { return m_strPathName; }
    // Makes `path` absolute and the document's path; the title becomes the
    // file name.
    void SetPathName(const QString& path);
    const QString& Title() const { return m_strTitle; }
    void SetTitle(const QString& title);

    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool modified = true);

    // Why the last open or save failed, for the user; empty when unknown.
    // The message that shows it names the book, so the reason does not.
    const QString& FailureReason() const { return m_strFailureReason; }
    void SetFailureReason(const QString& reason) { m_strFailureReason = reason; }

    // New book: the base empties the contents and clears the path and the
    // modified flag.
    virtual bool OnNewDocument();
    // Reads the book at `path`; the base only empties the contents.  On
    // failure the document must be left as it was.
    virtual bool OnOpenDocument(const QString& path);
    // Writes the book to `path`; the base only clears the modified flag.  On
    // failure the modified flag must stay as it was.
    virtual bool OnSaveDocument(const QString& path);
    // Drops the book's contents; the base does nothing.
    virtual void DeleteContents();

    // Tells the views that a new or opened book is in place (they reload).
    void SendInitialUpdate() { emit initialUpdate(); }
    // Tells the views that the same book was read again from disk (they
    // reload, keeping the selection and the sort where they can).
    void SendReloadUpdate() { emit reloaded(); }

signals:
    void modifiedChanged(bool modified);
    // The path or the title changed.
    void titleChanged(const QString& title);
    void initialUpdate();
    void reloaded();

private:
    QString m_strPathName;
    QString m_strTitle;
    QString m_strFailureReason;
    bool m_bModified = false;
};

}  // namespace platform
