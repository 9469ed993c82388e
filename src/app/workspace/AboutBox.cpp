#include "app/workspace/AboutBox.h"

#include <QMessageBox>

#include "app/platform/ProgramInfo.h"

namespace kanvo {

QString AboutBox::text()
{
    const QString homepage = ProgramInfo::homepage();
    return tr("<h3>十字绣Kanvo %1</h3>"
              "<p>把照片和图片做成十字绣图：符号、DMC绣线颜色、标尺和绣线清单。</p>"
              "<p>Qt 版本：%2</p>"
              "<p>许可：程序、使用说明和图标由 Kanvo 开发者制作，尚未以开发者自己的许可发布。"
              "图库中的图片和启动图片来自公有领域、CC0 和 CC BY 4.0 的作品，"
              "每一张的出处和许可列在安装的 share/doc/kanvo/copyright 文件中。</p>"
              "<p>主页：<a href=\"%3\">%3</a></p>")
        .arg(ProgramInfo::version(), QString::fromLatin1(qVersion()), homepage.toHtmlEscaped());
}

void AboutBox::show(QWidget* parent)
{
    QMessageBox box(parent);
    box.setObjectName(QStringLiteral("aboutBox"));
    box.setWindowTitle(tr("关于十字绣Kanvo"));
    box.setIconPixmap(ProgramInfo::icon().pixmap(64, 64));
    box.setTextFormat(Qt::RichText);
    box.setTextInteractionFlags(Qt::TextBrowserInteraction);
    box.setText(text());
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

} // namespace kanvo
