#include "exchange/export/HTMLTemplate.h"

#include "exchange/export/ExportError.h"

#include <QStringList>

namespace wl {

QString HTMLTemplate::builtIn(THTML_Template choice)
{
    switch (choice) {
    case THTML_Template::htClassic:
        return QStringLiteral("#333399;#69EF7D;#FF00FF;#00FF00;#FFFFFF;Arial,Helvetica;#FF0000;"
                              "#FFFFFF;#006BCE;#FFFFFF;#007AEC");
    case THTML_Template::htSimple:
        break;
    case THTML_Template::htPlain:
        return QStringLiteral(
            "#FFFFFF;blue;purple;red;#000000;;#068FE6;#FFFFFF;#FFFFFF;#000000;#FFFCD9");
    case THTML_Template::htMurky:
        return QStringLiteral("#317676;#FFE760;#CCCC39;#FFFF00;#FFFFFF;Arial,Helvetica;#3A9393;"
                              "#FFFFFF;#004040;#FFE760;#000000");
    case THTML_Template::htMS_Money:
        return QStringLiteral("#FFFFFF;blue;purple;red;#000080;Arial,Helvetica;#CEC6B5;#000000;"
                              "#DEE7DE;#000000;#FFFBF0");
    case THTML_Template::htColorful:
        return QStringLiteral("#339966;#0066CC;#923FC1;red;#FFFFFF;Geneva,Arial,Helvetica;"
                              "#CC0033;#FFFFFF;#FFFFFF;#000000;#FAF100");
    case THTML_Template::htGray:
        return QStringLiteral("#FFFFFF;blue;purple;red;#000000;Arial,Helvetica;#808080;#FFFFFF;"
                              "#FFFFFF;#000000;#EEEEEE");
    case THTML_Template::htOlive:
        return QStringLiteral("#FFFFFF;blue;purple;red;#000000;Verdana,Arial,Helvetica;#CFC890;"
                              "#000000;#FFFFFF;#5F605F;#FFFFCF");
    case THTML_Template::htBW:
        return QStringLiteral("#FFFFFF;blue;purple;red;#000000;Arial,Helvetica;#000000;#FFFFFF;"
                              "#FFFFFF;#000000;#F3F3F3");
    }
    return QStringLiteral("#FFFFFF;blue;purple;red;#004080;Arial,Helvetica;#336699;#FFFFFF;"
                          "#FFFFFF;#000000;#FFFFCF");
}

void HTMLTemplate::check(const QString& text)
{
    if (text.trimmed().isEmpty())
        return;
    const int found = int(text.count(u';'));
    if (found != FieldCount - 1) {
        throw ExportError(QStringLiteral("Invalid Template! Please correct it.\r\n\r\nYou should "
                                         "have \"%1\" semicolons but instead you have \"%2\"")
                              .arg(FieldCount - 1)
                              .arg(found));
    }
}

QString HTMLTemplate::field(const QString& text, int n)
{
    const QStringList fields = text.split(u';');
    if (n <= 0 || n > fields.size()) {
        throw ExportError(
            QStringLiteral("There is no Token \"%1\" in the String \"%2\"").arg(n).arg(text));
    }
    return fields[n - 1];
}

} // namespace wl
