// The names of the files that the resources library holds under ":/darv/".
#include "resources/ResourceNames.h"

namespace darv {

QStringList dataFolderResourceNames()
{
    return {QStringLiteral("darvlogo.jpg"),       QStringLiteral("darvcheck.jpg"), QStringLiteral("darvwrong.jpg"),
            QStringLiteral("darvlogo-print.jpg"), QStringLiteral("conflict.wav"),  QStringLiteral("about.rtf"),
            QStringLiteral("Darv2007.rtf"),       QStringLiteral("whatnext.rtf")};
}

QString builtInResourcePath(const QString& name)
{
    return QStringLiteral(":/darv/") + name;
}

} // namespace darv
