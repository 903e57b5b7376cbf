#pragma once
// A stand-in for the message boxes and file dialogs: it answers from a script and records
// every text and request.

#include <QStringList>
#include <deque>
#include <vector>

#include "ui/UserDialogs.h"

namespace quarrow::test {

class ScriptedDialogs final : public UserDialogs {
public:
    struct Message {
        MessageKind Kind;
        QString Text;
    };

    std::vector<Message> Messages;
    QStringList Questions;
    std::vector<FileDialogRequest> SaveRequests;
    std::vector<FileDialogRequest> OpenRequests;
    QStringList OpenedInEditor;

    std::deque<Answer> Answers;      // empty: Cancel
    std::deque<QString> SavePaths;   // empty: dismissed
    std::deque<QString> OpenPaths;   // empty: dismissed

    void ShowMessage(QWidget*, MessageKind kind, const QString& text) override {
        Messages.push_back({kind, text});
    }
    Answer AskYesNoCancel(QWidget*, const QString& text) override {
        Questions << text;
        return Take(Answers, Answer::Cancel);
    }
    QString ChooseSaveFile(QWidget*, const FileDialogRequest& request) override {
        SaveRequests.push_back(request);
        return Take(SavePaths, QString());
    }
    QString ChooseOpenFile(QWidget*, const FileDialogRequest& request) override {
        OpenRequests.push_back(request);
        return Take(OpenPaths, QString());
    }

    void OpenInEditor(const QString& path) override { OpenedInEditor << path; }

private:
    template <typename T>
    static T Take(std::deque<T>& queue, T fallback) {
        if (queue.empty())
            return fallback;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};

} // namespace quarrow::test
