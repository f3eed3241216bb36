#pragma once

#include <QWidget>

class QTextEdit;

// The help window: the help document in one read-only rich-text box that
// follows the window's size. The document is read once, when the window is
// made.
class frmHelp : public QWidget {
    Q_OBJECT

public:
    static inline const QString FileName = QStringLiteral("quelvanehelpfile.rtf");
    static inline const QString MissingText = QStringLiteral(
        "Help file has been moved from its normal location.  Please reinstall the program.");

    // helpFile: where the document is; the program's folder when empty.
    explicit frmHelp(const QString &helpFile = QString(), QWidget *parent = nullptr);

    QTextEdit *rtbHelp;

    // How many times the document was read, for tests.
    int loads() const { return m_loads; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void Form_Load(const QString &path);
    void Form_Resize();

    int m_loads = 0;
};
