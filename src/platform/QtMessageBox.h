#pragma once

#include "platform/MessageBox.h"

class QWidget;

namespace platform {

class QtMessageBox : public MessageBox {
  public:
    Button show(const Request& request) override;
};

} // namespace platform
