#pragma once
// Plain stand-ins for the control interfaces, recording what the code under test did.

#include "param/Controls.h"
#include "param/VarDrive.h"

#include <string>
#include <utility>
#include <vector>

namespace rv8::param::testing {

template <typename Base>
class FakeControlBase : public Base {
public:
  bool enabled() const override { return m_enabled; }
  void setEnabled(bool enabled) override { m_enabled = enabled; }
  bool visible() const override { return m_visible; }
  void setVisible(bool visible) override {
    m_visible = visible;
    ++visibleWrites;
  }
  std::string hint() const override { return m_hint; }
  void setHint(const std::string& hint) override { m_hint = hint; }
  int tag() const override { return m_tag; }
  void setTag(int tag) { m_tag = tag; }

  int visibleWrites = 0;

private:
  bool m_enabled = true;
  bool m_visible = true;
  std::string m_hint;
  int m_tag = 0;
};

template <typename Base>
class FakeTextControl : public FakeControlBase<Base> {
public:
  std::string text() const override { return m_text; }
  void setText(const std::string& text) override {
    m_text = text;
    ++textWrites;
  }
  int textWrites = 0;

private:
  std::string m_text;
};

using FakeEdit = FakeTextControl<IEditControl>;
using FakeLabel = FakeTextControl<ILabelControl>;

class FakeCombo : public FakeControlBase<IComboControl> {
public:
  int count() const override { return static_cast<int>(items.size()); }
  std::string itemText(int position) const override { return items.at(static_cast<std::size_t>(position)).first; }
  int itemValue(int position) const override { return items.at(static_cast<std::size_t>(position)).second; }
  void addItem(const std::string& text, int value) override { items.emplace_back(text, value); }
  void clear() override {
    items.clear();
    selected = -1;
  }
  int selectedIndex() const override { return selected; }
  void setSelectedIndex(int position) override {
    if (position >= -1 && position < count()) selected = position;
  }
  void setDropDownCount(int rows) override { dropDownCount = rows; }

  std::vector<std::pair<std::string, int>> items;
  int selected = -1;
  int dropDownCount = 0;
};

class RecordingWarnings : public IWarningSink {
public:
  void ShowWarning(const std::string& text) override { texts.push_back(text); }
  std::vector<std::string> texts;
};

// Sets the program-wide number settings for one test and restores them afterwards.
class ScopedNumberSettings {
public:
  ScopedNumberSettings(const std::string& decimal, const std::string& thousands, const std::string& time = ":")
      : m_saved(NUMBER_SETTINGS) {
    ApplyNumberSettings(NUMBER_SETTINGS, decimal, thousands, time);
  }
  ~ScopedNumberSettings() { NUMBER_SETTINGS = m_saved; }
  ScopedNumberSettings(const ScopedNumberSettings&) = delete;
  ScopedNumberSettings& operator=(const ScopedNumberSettings&) = delete;

private:
  TNumberSettings m_saved;
};

}  // namespace rv8::param::testing
