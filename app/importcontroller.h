#pragma once

#include <QObject>

class frmMain;

// Tools > Import Script > Original: empties the store after asking, lets
// the user pick the scripts folder, imports it and rebuilds the tree.
class ImportController : public QObject
{
    Q_OBJECT

public:
    explicit ImportController(frmMain &window);

    void mnuImpOri_Click();

private:
    frmMain &m_window;
};
