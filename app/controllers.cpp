#include "app/controllers.h"

#include "app/mainwindow.h"
#include "app/searchcontroller.h"
#include "app/spellcontroller.h"

void installControllers(frmMain &window)
{
    // One line per feature controller.
    new SearchController(window);
    new SpellController(window);
}
