// Program start: the application and its title, the main window, then the text
// entry dialog and the image dialog, and the event loop.
#include "app/quilletapplication.h"
#include "app/userdialogs.h"
#include "dialogs/addeditimage.h"
#include "dialogs/addlang.h"
#include "editor/tagprog1.h"

int main(int argc, char** argv) {
    QuilletApplication app(argc, argv);
    QtUserDialogs dialogs;
    app.setDialogs(&dialogs);

    TForm1 form1(dialogs);
    TForm2 form2(form1.session(), &form1);
    TForm3 form3(form1.session(), &form1);
    form1.setDialogs(&form2, &form3);
    form1.show();
    return QuilletApplication::exec();
}
