#include "OLMCalendar/Presenters/Week/XQCalendarWeekDayCell.h"

OLM_DEFINE_CLASS(XQCalendarWeekDayCell, XQCalendarDayCell)
