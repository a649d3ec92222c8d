#pragma once

#include <QString>

namespace platform {

// A modal message box: text, title, buttons, default button and icon.
class MessageBox {
  public:
    enum class Buttons { Ok, YesNo };
    enum class Button { Ok, Yes, No };
    enum class Icon { None, Information };

    struct Request {
        QString text;
        QString title;
        Buttons buttons = Buttons::Ok;
        Button defaultButton = Button::Ok;
        Icon icon = Icon::None;
    };

    virtual ~MessageBox() = default;
    // Shows the box and returns the button the user pressed.
    virtual Button show(const Request& request) = 0;
};

} // namespace platform
