#include "tests/support/messagerecorder.h"

MessageRecorder::MessageRecorder()
{
    m_previous = Messages::setHandler([this](QWidget *, const Messages::Message &message) {
        messages << message;
        if (message.buttons == Messages::Buttons::Ok)
            return Messages::Answer::Ok;
        return m_answers.isEmpty() ? Messages::Answer::Cancel : m_answers.takeFirst();
    });
    Messages::setBeepHandler([this] { ++beeps; });
}

MessageRecorder::~MessageRecorder()
{
    Messages::setHandler(m_previous);
    Messages::setBeepHandler({});
}

void MessageRecorder::answerWith(std::initializer_list<Messages::Answer> answers)
{
    m_answers = answers;
}

QStringList MessageRecorder::texts() const
{
    QStringList list;
    for (const auto &message : messages)
        list << message.text;
    return list;
}
