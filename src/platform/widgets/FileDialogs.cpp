#include "platform/widgets/FileDialogs.h"

#include <QFileDialog>

namespace {
StandardFileDialogs g_standard;
FileDialogs* g_installed = nullptr;
} // namespace

FileDialogs& FileDialogs::instance() {
    return g_installed ? *g_installed : g_standard;
}

void FileDialogs::install(FileDialogs* dialogs) {
    g_installed = dialogs;
}

QString StandardFileDialogs::openFile(QWidget* parent, const QString& title, const QString& dir,
                                      const QString& filter) {
    return QFileDialog::getOpenFileName(parent, title, dir, filter);
}

QString StandardFileDialogs::saveFile(QWidget* parent, const QString& title, const QString& dir,
                                      const QString& filter) {
    return QFileDialog::getSaveFileName(parent, title, dir, filter);
}

QString StandardFileDialogs::directory(QWidget* parent, const QString& title, const QString& dir) {
    return QFileDialog::getExistingDirectory(parent, title, dir);
}
