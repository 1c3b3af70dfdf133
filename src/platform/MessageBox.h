#pragma once
#include <QString>

#include <vector>

// The station's error box: caption "错误", one OK button.
void ShowErrorBox(const QString& text);
// The plain message box with an OK button; its caption is the program's name.
void ShowMessage(const QString& text);
// The box in which the application shows an exception's message.
void ShowExceptionBox(const QString& text);

struct ShownMessage {
    QString caption;
    QString text;
    bool operator==(const ShownMessage&) const = default;
};

// While one exists, the functions above record what they would show instead
// of showing a box. For tests; GUI thread only.
class MessageBoxCapture {
public:
    MessageBoxCapture();
    ~MessageBoxCapture();
    MessageBoxCapture(const MessageBoxCapture&) = delete;
    MessageBoxCapture& operator=(const MessageBoxCapture&) = delete;

    const std::vector<ShownMessage>& shown() const { return shown_; }
    std::vector<QString> texts() const;
    void clear() { shown_.clear(); }

    // Records the box in the innermost capture; false when none exists.
    static bool record(const QString& caption, const QString& text);

private:
    std::vector<ShownMessage> shown_;
    MessageBoxCapture* outer_;
};
