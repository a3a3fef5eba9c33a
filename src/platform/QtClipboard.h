#pragma once
// The desktop's clipboard.
#include "platform/Clipboard.h"

class QtClipboard : public Clipboard {
public:
    void clear() override;
    void setText(const QString& text) override;
};
