// The logic library stays free of widgets, so that it can be tested and reused without a window.

#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

class TestLogicHasNoWidgets : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void noLogicFileIncludesAWidgetHeader() {
        QFile list(QString::fromUtf8(CORE_SOURCE_LIST));
        QVERIFY(list.open(QIODevice::ReadOnly));
        const QStringList files =
            QString::fromUtf8(list.readAll()).split(u'\n', Qt::SkipEmptyParts);
        QVERIFY(files.size() > 10);
        static const QRegularExpression widgetInclude(QString::fromLatin1(
            "#\\s*include\\s*[<\"](QtWidgets/|Q(Widget|Dialog|Application|PushButton|Label|"
            "MessageBox|FileDialog|TreeWidget|ListWidget|TableWidget|LineEdit|ComboBox|ProgressBar|"
            "FileIconProvider|HBoxLayout|VBoxLayout|GridLayout|RadioButton|GroupBox|TabBar|"
            "AbstractButton|HeaderView|Style|ButtonGroup)\\b)"));
        for (const QString& path : files) {
            QFile source(path);
            QVERIFY2(source.open(QIODevice::ReadOnly), qPrintable(path));
            const QString text = QString::fromUtf8(source.readAll());
            const QRegularExpressionMatch match = widgetInclude.match(text);
            QVERIFY2(!match.hasMatch(), qPrintable(path + u": "_s + match.captured(0)));
        }
    }
};

QTEST_GUILESS_MAIN(TestLogicHasNoWidgets)
#include "test_layers.moc"
