#pragma once

#include "ui/messages.h"

#include <QList>
#include <QStringList>

// Answers every message box in place of a person and keeps what was shown.
class MessageRecorder
{
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    // Answers used in turn for questions; Ok for plain messages, and Cancel
    // for a question once the list runs out.
    void answerWith(std::initializer_list<Messages::Answer> answers);

    QList<Messages::Message> messages;
    QStringList texts() const;
    int beeps = 0;

private:
    QList<Messages::Answer> m_answers;
    Messages::Handler m_previous;
};
