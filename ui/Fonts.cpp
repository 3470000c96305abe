#include "Fonts.h"

#include <QStringList>

void installFontSubstitutions() {
    const QStringList song = {QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW"),
                              QStringLiteral("WenQuanYi Zen Hei")};
    const QStringList hei = {QStringLiteral("WenQuanYi Zen Hei"),
                             QStringLiteral("WenQuanYi Zen Hei Sharp")};
    QFont::insertSubstitutions(QStringLiteral("宋体"), song);
    QFont::insertSubstitutions(QStringLiteral("SimSun"), song);
    QFont::insertSubstitutions(QStringLiteral("黑体"), hei);
    QFont::insertSubstitutions(QStringLiteral("SimHei"), hei);
    QFont::insertSubstitutions(QStringLiteral("方正兰亭刊黑_GBK"), hei);
    QFont::insertSubstitutions(QStringLiteral("Microsoft Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans")});
}

QFont pixelFont(const QString &family, int pixels, bool bold) {
    QFont f(family);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}
