#pragma once

#include <QString>

class QWidget;

// What the editor does with the store before it opens it for work: the quick
// check (a damaged store is named with its newest backup, which the user may
// put back at once), the day's first backup, and the planner's figures for a
// store made before they were written at creation.
//
// Thread contract: GUI thread; every message goes through Messages.
void prepareStoreAtStartUp(QWidget *parent, const QString &programFolder);
