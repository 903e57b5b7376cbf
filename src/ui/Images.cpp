#include "ui/Images.h"

#include <QString>

// The images live in a static library: their resource must be registered by hand.
static void RegisterImages() {
    Q_INIT_RESOURCE(images);
}

namespace quarrow::Images {
namespace {

QIcon Load(const QString& name) {
    static const bool registered = (RegisterImages(), true);
    (void)registered;
    return QIcon(QStringLiteral(":/images/") + name + QStringLiteral(".png"));
}

QIcon FromList(const char* list, int index, int count) {
    if (index < 0 || index >= count)
        return {};
    return Load(QString::fromLatin1(list) + QString::number(index));
}

}  // namespace

QIcon EntityKind(int kind) {
    return FromList("kind", kind, 12);
}
QIcon Pop(int index) {
    return FromList("pop", index, 6);
}
QIcon Toolbar(int index) {
    return FromList("tool", index, 6);
}
QIcon Tab(int index) {
    return FromList("tab", index, 3);
}
QIcon Status() {
    return Load(QStringLiteral("status"));
}
QIcon MoveUp() {
    return Load(QStringLiteral("moveup"));
}
QIcon MoveDown() {
    return Load(QStringLiteral("movedown"));
}
QIcon Window() {
    return Load(QStringLiteral("window"));
}
QIcon Options() {
    return Load(QStringLiteral("options"));
}
QIcon Help() {
    return Load(QStringLiteral("help"));
}

}  // namespace quarrow::Images
