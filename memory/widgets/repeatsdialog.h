#pragma once

#include "memory/repeats.h"

#include <QDialog>

#include <memory>

namespace Ui {
class RepeatsDialog;
}

// Every other block with exactly the open block's original, with what each
// holds now. Apply closes the dialog as accepted; the question that confirms
// it and the writing are the caller's.
class RepeatsDialog : public QDialog
{
    Q_OBJECT

public:
    RepeatsDialog(const Repeats &repeats, QWidget *parent = nullptr);
    ~RepeatsDialog() override;

private:
    std::unique_ptr<Ui::RepeatsDialog> m_ui;
};
