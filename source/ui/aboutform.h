#pragma once

#include <QPixmap>

#include "ui/dialogform.h"

class CAppLanguage;
class QFrame;
class QLabel;
class QPushButton;

// The About box: what the program is, its version and where its documents are. It opens in
// English; ApplyLanguage puts its texts into the user's language (the product name stays).
class TAboutForm : public TDialogForm {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* owner = nullptr);

    void ApplyLanguage(const CAppLanguage& language);

    QLabel* const Image1;
    QLabel* const ProductLabel;
    QLabel* const VersionLabel;
    QLabel* const CommentsLabel;
    QLabel* const WebAddressLabel;
    QFrame* const Bevel1;
    QPushButton* const Button1;
};

// The unit as the About box shows it, drawn rather than shipped as an image file: a grey box
// with its antenna, the green power LED and the two relay LEDs. `size` is the square's edge.
QPixmap DrawUnitPicture(int size);
