#include "AboutBox.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Return_Button.H>
#include <FL/fl_draw.H>

#include "FltkSupport.h"

namespace Vellix::Design {

namespace {

// A label that looks and acts like a hyperlink: underlined text, a hand
// cursor while the pointer is over it, its callback on a click.
class TLinkLabel : public Fl_Box {
public:
  using Fl_Box::Fl_Box;

  int handle(int aEvent) override {
    switch (aEvent) {
      case FL_ENTER:
        if (window()) window()->cursor(FL_CURSOR_HAND);
        return 1;
      case FL_LEAVE:
        if (window()) window()->cursor(FL_CURSOR_DEFAULT);
        return 1;
      case FL_PUSH:
        return 1;
      case FL_RELEASE:
        if (Fl::event_inside(this)) do_callback();
        return 1;
    }
    return Fl_Box::handle(aEvent);
  }

  void draw() override {
    Fl_Box::draw();
    // FLTK has no underlined face: draw the line under the centred text.
    fl_font(labelfont(), labelsize());
    int w = 0, h = 0;
    measure_label(w, h);
    int left = x() + (this->w() - w) / 2;
    int base = y() + (this->h() + labelsize()) / 2 - fl_descent() + 2;
    fl_color(labelcolor());
    fl_line(left, base, left + w - 1, base);
  }
};

void StyleLabel(Fl_Box& aBox, const TAboutLabel& aLabel, const std::string& aFamily) {
  aBox.box(FL_NO_BOX);
  aBox.copy_label(aLabel.Caption.c_str());
  aBox.labelfont(ToFlFont(aFamily, aLabel.Bold));
  aBox.labelsize(PointsToPixels(aLabel.FontSize));
  aBox.labelcolor(ToFlColor(aLabel.Color));
  aBox.align(FL_ALIGN_INSIDE | FL_ALIGN_CLIP |
             (aLabel.Centered ? FL_ALIGN_CENTER : FL_ALIGN_LEFT));
}

}  // namespace

TAboutBox::TAboutBox(const TAboutBoxContent& aContent, std::function<void()> aOnLink)
    : FOnLink(std::move(aOnLink)) {
  const auto& c = aContent;
  FWindow = std::make_unique<Fl_Double_Window>((Fl::w() - c.Width) / 2, (Fl::h() - c.Height) / 2,
                                               c.Width, c.Height);
  FWindow->copy_label(c.Caption.c_str());
  FWindow->set_modal();
  FWindow->size_range(c.Width, c.Height, c.Width, c.Height);  // a fixed dialog border
  FWindow->labelfont(ToFlFont(c.FontName, false));
  FWindow->labelsize(PointsToPixels(c.FontSize));

  FPanel = new Fl_Box(FL_THIN_DOWN_FRAME, c.PanelLeft, c.PanelTop, c.PanelWidth, c.PanelHeight, "");
  FTitle = new Fl_Box(c.PanelLeft + c.Title.Left, c.PanelTop + c.Title.Top, c.Title.Width,
                      c.Title.Height);
  StyleLabel(*FTitle, c.Title, c.FontName);
  FLink = new TLinkLabel(c.PanelLeft + c.Link.Left, c.PanelTop + c.Link.Top, c.Link.Width,
                         c.Link.Height);
  StyleLabel(*FLink, c.Link, c.FontName);
  FLink->callback([](Fl_Widget*, void* aSelf) {
    auto* self = static_cast<TAboutBox*>(aSelf);
    if (self->FOnLink) self->FOnLink();
  }, this);

  FOk = new Fl_Return_Button(c.ButtonLeft, c.ButtonTop, c.ButtonWidth, c.ButtonHeight);
  FOk->copy_label(c.ButtonCaption.c_str());
  FOk->labelfont(ToFlFont(c.FontName, false));
  FOk->labelsize(PointsToPixels(c.FontSize));
  FOk->callback([](Fl_Widget*, void* aSelf) {
    auto* self = static_cast<TAboutBox*>(aSelf);
    self->FConfirmed = true;
    self->FWindow->hide();
  }, this);
  FWindow->end();
}

TAboutBox::~TAboutBox() = default;

bool TAboutBox::ShowModal() {
  FConfirmed = false;
  FWindow->show();
  while (FWindow->shown()) Fl::wait();
  return FConfirmed;
}

}  // namespace Vellix::Design
