#pragma once
// Small control interfaces the parameter model binds to. The editor windows implement them
// with Qt widgets; tests implement them with plain fakes. Texts are UTF-8.

#include <string>

namespace rv8::param {

class IControl {
public:
  virtual ~IControl() = default;
  virtual bool enabled() const = 0;
  virtual void setEnabled(bool enabled) = 0;
  virtual bool visible() const = 0;
  virtual void setVisible(bool visible) = 0;
  virtual std::string hint() const = 0;
  virtual void setHint(const std::string& hint) = 0;
  // The control's tag: the number of the parameter it is bound to.
  virtual int tag() const = 0;
};

// A control that shows one text (edit box, label).
class ITextControl : public IControl {
public:
  virtual std::string text() const = 0;
  virtual void setText(const std::string& text) = 0;
};

class IEditControl : public ITextControl {};
class ILabelControl : public ITextControl {};

// A list control whose items each carry one integer value.
class IListControl : public IControl {
public:
  virtual int count() const = 0;
  virtual std::string itemText(int position) const = 0;
  virtual int itemValue(int position) const = 0;
  virtual void addItem(const std::string& text, int value) = 0;
  virtual void clear() = 0;
  // -1 when nothing is selected.
  virtual int selectedIndex() const = 0;
  virtual void setSelectedIndex(int position) = 0;
};

// A drop-down list.
class IComboControl : public IListControl {
public:
  // Rows the open drop-down shows at most.
  virtual void setDropDownCount(int rows) = 0;
};

}  // namespace rv8::param
