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
    QStringList OpenedFolders;
    // False: the machine has no viewer (or file manager), so every launch fails.
    bool ViewerAvailable = true;

    std::deque<Answer> Answers;     // empty: Cancel (No for a Yes/No question)
    std::deque<QString> SavePaths;  // empty: dismissed
    std::deque<QString> OpenPaths;  // empty: dismissed
    std::deque<QString> Texts;      // empty: dismissed

    void ShowMessage(QWidget*, MessageKind kind, const QString& text) override {
        Messages.push_back({kind, text});
    }
    Answer AskYesNoCancel(QWidget*, const QString& text) override {
        Questions << text;
        return Take(Answers, Answer::Cancel);
    }
    Answer AskYesNo(QWidget*, const QString& text) override {
        Questions << text;
        const Answer answer = Take(Answers, Answer::No);
        return answer == Answer::Yes ? Answer::Yes : Answer::No;
    }
    QString ChooseSaveFile(QWidget*, const FileDialogRequest& request) override {
        SaveRequests.push_back(request);
        return Take(SavePaths, QString());
    }
    QString ChooseOpenFile(QWidget*, const FileDialogRequest& request) override {
        OpenRequests.push_back(request);
        return Take(OpenPaths, QString());
    }
    QString AskText(QWidget*, const QString&, const QString& label) override {
        Questions << label;
        return Take(Texts, QString());
    }

    // Only launches that succeed are recorded: they are what the user would see.
    bool OpenInEditor(const QString& path) override {
        if (ViewerAvailable)
            OpenedInEditor << path;
        return ViewerAvailable;
    }
    bool OpenFolder(const QString& path) override {
        if (ViewerAvailable)
            OpenedFolders << path;
        return ViewerAvailable;
    }

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

}  // namespace quarrow::test
