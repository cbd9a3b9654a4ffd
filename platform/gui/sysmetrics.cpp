#include "platform/gui/sysmetrics.h"

namespace {

TSysMetricsTable MakeClassic() {
  TSysMetricsTable t{};
  auto set = [&t](Integer index, Integer value) { t[static_cast<size_t>(index)] = value; };
  set(SM_CXSCREEN, 1024);
  set(SM_CYSCREEN, 768);
  set(SM_CXVSCROLL, 16);
  set(SM_CYHSCROLL, 16);
  set(SM_CYVSCROLL, 16);
  set(SM_CXHSCROLL, 16);
  set(SM_CYCAPTION, 19);
  set(SM_CXBORDER, 1);
  set(SM_CYBORDER, 1);
  set(SM_CXDLGFRAME, 3);
  set(SM_CYDLGFRAME, 3);
  set(SM_CYVTHUMB, 16);
  set(SM_CXHTHUMB, 16);
  set(SM_CXICON, 32);
  set(SM_CYICON, 32);
  set(SM_CXCURSOR, 32);
  set(SM_CYCURSOR, 32);
  set(SM_CYMENU, 19);
  set(SM_CXFULLSCREEN, 1024);
  set(SM_CYFULLSCREEN, 749);
  set(SM_SWAPBUTTON, 0);
  set(SM_CXMIN, 112);
  set(SM_CYMIN, 27);
  set(SM_CXSIZE, 18);
  set(SM_CYSIZE, 18);
  set(SM_CXFRAME, 4);
  set(SM_CYFRAME, 4);
  set(SM_CXDOUBLECLK, 4);
  set(SM_CYDOUBLECLK, 4);
  set(SM_CXEDGE, 2);
  set(SM_CYEDGE, 2);
  set(SM_CXSMICON, 16);
  set(SM_CYSMICON, 16);
  set(SM_CYSMCAPTION, 15);
  set(SM_CXMENUCHECK, 13);
  set(SM_CYMENUCHECK, 13);
  set(SM_CXDRAG, 4);
  set(SM_CYDRAG, 4);
  set(SM_MOUSEWHEELPRESENT, 1);
  set(SM_CXVIRTUALSCREEN, 1024);
  set(SM_CYVIRTUALSCREEN, 768);
  set(SM_CMONITORS, 1);
  return t;
}

const TSysMetricsTable& Classic() {
  static const TSysMetricsTable table = MakeClassic();
  return table;
}

TSysMetricsTable& CurrentTable() {
  static TSysMetricsTable table = Classic();
  return table;
}

Cardinal& DoubleClickTime() {
  static Cardinal time = 500;
  return time;
}

}  // namespace

const TSysMetricsTable& DefaultSysMetricsTable() { return Classic(); }

void SetSysMetricsTable(const TSysMetricsTable& Table) { CurrentTable() = Table; }

Integer GetSystemMetrics(Integer Index) {
  if (Index < 0 || Index >= SysMetricsCount) return 0;
  return CurrentTable()[static_cast<size_t>(Index)];
}

Cardinal GetDoubleClickTime() { return DoubleClickTime(); }

void SetDoubleClickTime(Cardinal Milliseconds) { DoubleClickTime() = Milliseconds == 0 ? 500 : Milliseconds; }
