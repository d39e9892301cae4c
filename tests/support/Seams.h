#pragma once

#include "platform/widgets/FileDialogs.h"
#include "platform/widgets/Messages.h"
#include "platform/widgets/ModalHost.h"

#include <QApplication>
#include <QDialog>
#include <QHash>
#include <QQueue>
#include <QStringList>
#include <QVector>
#include <functional>

// Records every message box and answers from a script (OK, or No for a question, when nothing is scripted).
class RecordingMessages : public Messages {
public:
    RecordingMessages() { Messages::install(this); }
    ~RecordingMessages() override { Messages::install(nullptr); }
    RecordingMessages(const RecordingMessages&) = delete;
    RecordingMessages& operator=(const RecordingMessages&) = delete;

    QMessageBox::StandardButton show(const Request& request) override {
        shown.append(request);
        if (!answers.isEmpty())
            return answers.dequeue();
        return request.buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::No;
    }

    // "kind|title|text" of each box, for compact assertions.
    QStringList log() const {
        QStringList out;
        for (const Request& r : shown)
            out << QStringLiteral("%1|%2|%3").arg(kindName(r.kind), r.title, r.text);
        return out;
    }
    static QString kindName(Kind k) {
        switch (k) {
        case Kind::Warning:
            return QStringLiteral("warning");
        case Kind::Question:
            return QStringLiteral("question");
        case Kind::Plain:
            return QStringLiteral("plain");
        case Kind::Error:
            return QStringLiteral("error");
        case Kind::StandardError:
            return QStringLiteral("standard-error");
        case Kind::Custom:
            return QStringLiteral("custom");
        }
        return {};
    }
    void clear() { shown.clear(); }

    QVector<Request> shown;
    QQueue<QMessageBox::StandardButton> answers;
};

// Shows a screen, runs what the test scripted for it (by object name), then closes it as its "X" would,
// unless the script closed it already; the caller then goes on. Screens without a script just open and close.
class ScriptedModalHost : public ModalHost {
public:
    using Script = std::function<void(QDialog*)>;

    ScriptedModalHost() { ModalHost::install(this); }
    ~ScriptedModalHost() override { ModalHost::install(nullptr); }
    ScriptedModalHost(const ScriptedModalHost&) = delete;
    ScriptedModalHost& operator=(const ScriptedModalHost&) = delete;

    void onShow(const QString& objectName, Script script) {
        m_scripts[objectName].enqueue(std::move(script));
    }

    int showModal(QDialog* form) override {
        shown << form->objectName();
        form->setResult(0);
        form->show();
        QApplication::setActiveWindow(form);
        if (auto it = m_scripts.find(form->objectName()); it != m_scripts.end() && !it->isEmpty())
            it->dequeue()(form);
        if (form->isVisible())
            form->close();
        closed << form->objectName();
        return form->result();
    }

    QStringList shown;
    QStringList closed;

private:
    QHash<QString, QQueue<Script>> m_scripts;
};

// Answers the file dialogs from a script; an empty answer is a cancel.
class ScriptedFileDialogs : public FileDialogs {
public:
    ScriptedFileDialogs() { FileDialogs::install(this); }
    ~ScriptedFileDialogs() override { FileDialogs::install(nullptr); }
    ScriptedFileDialogs(const ScriptedFileDialogs&) = delete;
    ScriptedFileDialogs& operator=(const ScriptedFileDialogs&) = delete;

    QString openFile(QWidget*, const QString& title, const QString&, const QString&) override {
        return next(title);
    }
    QString saveFile(QWidget*, const QString& title, const QString&, const QString&) override {
        return next(title);
    }
    QString directory(QWidget*, const QString& title, const QString&) override { return next(title); }

    QQueue<QString> answers;
    QStringList asked;

private:
    QString next(const QString& title) {
        asked << title;
        return answers.isEmpty() ? QString() : answers.dequeue();
    }
};
