#include "Form.h"

#include "Twips.h"

Form::Form(QWidget *parent) : QWidget(parent) {}

double Form::widthTwips() const
{
    return Twips::fromPixels(width());
}

double Form::heightTwips() const
{
    return Twips::fromPixels(height());
}
