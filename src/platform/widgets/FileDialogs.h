#pragma once

#include <QString>

class QWidget;

// The standard open, save and folder dialogs, behind a seam that tests answer from a script.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // Each returns the chosen path, or an empty text when the user cancelled.
    virtual QString openFile(QWidget* parent, const QString& title, const QString& dir,
                             const QString& filter) = 0;
    virtual QString saveFile(QWidget* parent, const QString& title, const QString& dir,
                             const QString& filter) = 0;
    virtual QString directory(QWidget* parent, const QString& title, const QString& dir) = 0;

    static FileDialogs& instance();
    static void install(FileDialogs* dialogs);
};

class StandardFileDialogs : public FileDialogs {
public:
    QString openFile(QWidget* parent, const QString& title, const QString& dir,
                     const QString& filter) override;
    QString saveFile(QWidget* parent, const QString& title, const QString& dir,
                     const QString& filter) override;
    QString directory(QWidget* parent, const QString& title, const QString& dir) override;
};
