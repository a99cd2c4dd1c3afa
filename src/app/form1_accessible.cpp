#include "app/form1_accessible.h"

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QPushButton>
#include <algorithm>
#include <array>

#include "app/controls/form_label.h"
#include "app/controls/picture_box.h"
#include "app/form1.h"
#include "page/page_view.h"

namespace discstart {

namespace {

const QLatin1String TagGroupName("tagLines");

using Lines = std::array<QWidget*, 4>;

// The four tag lines as one object among the window's children; its class stays QObject's
// for the factory, hence no Q_OBJECT.
class TagGroup : public QObject {
  public:
    TagGroup(QWidget& form, const Lines& lines) : QObject(&form), lines(lines) {
        setObjectName(TagGroupName);
    }
    const Lines lines;
};

// None while the window is still being built.
TagGroup* GroupOf(const QWidget& form) {
    return static_cast<TagGroup*>(form.findChild<QObject*>(TagGroupName, Qt::FindDirectChildrenOnly));
}

Lines TagLines(const QWidget& form) {
    const TagGroup* group = GroupOf(form);
    return group ? group->lines : Lines{};
}

bool IsTagLine(const Lines& lines, const QObject* object) {
    return std::find(lines.begin(), lines.end(), object) != lines.end();
}

Form1* FormOf(const QObject* object) {
    return qobject_cast<Form1*>(object->parent());
}

QAccessibleInterface* TagGroupOf(const Form1& form) {
    return QAccessible::queryAccessibleInterface(GroupOf(form));
}

class PictureButtonAccessible : public QAccessibleWidget {
  public:
    explicit PictureButtonAccessible(PictureBox* box) : QAccessibleWidget(box, QAccessible::Button) {}

    QStringList actionNames() const override {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction())
            static_cast<PictureBox*>(widget())->press();
        else
            QAccessibleWidget::doAction(action);
    }
};

// The window's children as a screen reader meets them: the tag lines leave the list and
// come back as one group where the first of them stood.
class FormAccessible : public QAccessibleWidget {
  public:
    explicit FormAccessible(Form1* form) : QAccessibleWidget(form, QAccessible::Window) {}

    int childCount() const override { return int(members().size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QObject*> list = members();
        return index >= 0 && index < list.size() ? QAccessible::queryAccessibleInterface(list[index])
                                                 : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child ? int(members().indexOf(child->object())) : -1;
    }

  private:
    QList<QObject*> members() const {
        const auto& form = static_cast<const Form1&>(*widget());
        const Lines lines = TagLines(form);
        QList<QObject*> list;
        bool grouped = false;
        for (QObject* child : form.children()) {
            const auto* control = qobject_cast<QWidget*>(child);
            if (!control || control->isWindow()) continue;
            if (!IsTagLine(lines, control)) {
                list << child;
            } else if (!grouped) {
                list << TagGroupOf(form)->object();
                grouped = true;
            }
        }
        return list;
    }
};

class TagGroupAccessible : public QAccessibleObject {
  public:
    explicit TagGroupAccessible(QObject* group) : QAccessibleObject(group) {}

    QWindow* window() const override { return form().window()->windowHandle(); }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(&form()); }
    int childCount() const override { return int(TagLines(form()).size()); }
    QAccessibleInterface* child(int index) const override {
        const auto lines = TagLines(form());
        return index >= 0 && index < int(lines.size()) ? QAccessible::queryAccessibleInterface(lines[index])
                                                       : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto lines = TagLines(form());
        const auto at = std::find(lines.begin(), lines.end(), child ? child->object() : nullptr);
        return at == lines.end() ? -1 : int(at - lines.begin());
    }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? QStringLiteral("About the film") : QString();
    }
    QAccessible::Role role() const override { return QAccessible::Grouping; }
    QAccessible::State state() const override { return {}; }
    QRect rect() const override {
        QRect area;
        for (const QWidget* line : TagLines(form()))
            area |= QRect(line->mapToGlobal(QPoint(0, 0)), line->size());
        return area;
    }

  private:
    Form1& form() const { return *FormOf(object()); }
};

class TagLineAccessible : public QAccessibleWidget {
  public:
    explicit TagLineAccessible(FormLabel* line) : QAccessibleWidget(line, QAccessible::StaticText) {}

    QAccessibleInterface* parent() const override { return TagGroupOf(*FormOf(widget())); }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? static_cast<const FormLabel*>(widget())->text()
                                      : QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* Describe(const QString& key, QObject* object) {
    if (key == QLatin1String(Form1::staticMetaObject.className()))
        return new FormAccessible(static_cast<Form1*>(object));
    if (key == QLatin1String(PictureBox::staticMetaObject.className())) {
        auto* box = static_cast<PictureBox*>(object);
        return box->isButton() ? new PictureButtonAccessible(box) : nullptr;
    }
    const Form1* form = FormOf(object);
    if (!form) return nullptr;
    // The four tag lines are FormLabels, asked for under their own class first.
    if (IsTagLine(TagLines(*form), object)) return new TagLineAccessible(static_cast<FormLabel*>(object));
    if (key == QLatin1String("QObject") && object->objectName() == TagGroupName)
        return new TagGroupAccessible(object);
    return nullptr;
}

}  // namespace

void DescribeForAssistiveTools(Form1& form, const Form1Ui& ui) {
    static const bool installed = [] {
        QAccessible::installFactory(Describe);
        return true;
    }();
    Q_UNUSED(installed);
    ui.cmdPlay->setAccessibleName(QStringLiteral("Play"));
    ui.Picture1->setAccessibleName(QStringLiteral("Show page"));
    ui.Picture4->setAccessibleName(QStringLiteral("Hide page"));
    ui.Picture3->setAccessibleName(QStringLiteral("Close"));
    ui.WebBrowser1->setAccessibleName(QStringLiteral("Page"));
    new TagGroup(form, {ui.Label3, ui.lblAuthor, ui.lblCopyright, ui.Label4});
}

}  // namespace discstart
