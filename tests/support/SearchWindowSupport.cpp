#include "SearchWindowSupport.h"

#include <QCheckBox>
#include <QLineEdit>

#include "app/forms.h"
#include "search/FS1.h"

TFILESCH* searchWindowAtDefaults() {
    if (FILESCH == nullptr) {
        createForms({});
    }
    TFILESCH* w = FILESCH;
    w->Edit1->setText(QStringLiteral("/"));
    w->Edit2->setText(QStringLiteral("*"));
    w->Edit3->setText(QStringLiteral("*"));
    w->Edit5->clear();
    for (QCheckBox* box : {w->CheckBox1, w->CheckBox2, w->CheckBox3}) {
        box->setChecked(false);
    }
    return w;
}
