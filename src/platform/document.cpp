#include "platform/document.h"

#include <QDir>
#include <QFileInfo>

#include "platform/string_resource.h"
#include "resources/string_table.h"

namespace platform {
namespace {

QString UntitledText() {
    return ResourceString(resources::kStrUntitled);
}

}  // namespace

CDocument::CDocument(QObject* parent) : QObject(parent), m_strTitle(UntitledText()) {}

CDocument::~CDocument() = default;

void CDocument::SetPathName(const QString& path) {
    m_strPathName = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    m_strTitle = QFileInfo(m_strPathName).fileName();
    emit titleChanged(m_strTitle);
}

void CDocument::SetTitle(const QString& title) {
    m_strTitle = title;
    emit titleChanged(m_strTitle);
}

void CDocument::SetModifiedFlag(bool modified) {
    if (m_bModified != modified) {
        m_bModified = modified;
        emit modifiedChanged(modified);
    }
}

bool CDocument::OnNewDocument() {
    DeleteContents();
    bool hadPath = !m_strPathName.isEmpty();
    m_strPathName.clear();
    if (hadPath) {
        emit titleChanged(m_strTitle);
    }
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnOpenDocument(const QString&) {
    DeleteContents();
    return true;
}

bool CDocument::OnSaveDocument(const QString&) {
    SetModifiedFlag(false);
    return true;
}

void CDocument::DeleteContents() {}

}  // namespace platform
