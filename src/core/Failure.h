#pragma once
// A failure carries its own message, which the message boxes show as it stands.
#include <QString>
#include <stdexcept>

class TavrelError : public std::runtime_error {
public:
    explicit TavrelError(const QString &message)
        : std::runtime_error(message.toStdString()), text(message) {}
    const QString &message() const { return text; }

private:
    QString text;
};

// The message of any exception, as text for a message box.
QString FailureMessage(const std::exception &e);

// What stands before the reason wherever an error of the computation, the update check or
// the Office exports is shown or printed.
inline const QString ErrorPrefix = QStringLiteral("出错：");
