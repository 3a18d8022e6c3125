#pragma once

#include "app/PageDialog.h"
#include "app/UnsavedSetOwner.h"

// The page on which message sets are assembled, viewed, edited and saved.
class MessageSetPage : public PageDialog, public UnsavedSetOwner {
    Q_OBJECT

public:
    MessageSetPage(const PageContext& context, QWidget* parent);

    bool IsSetChanged() const override { return false; }
    void SaveSetAs() override {}
};
