# The sources of the library and of the counter's request handling, listed once
# for the main build and the fuzz build. Paths are relative to the repository root.
set(KORVELIN_LIBRARY_SOURCES
  korvelin/form/decoder.cpp
  korvelin/form/html_text.cpp
  korvelin/form/internal/values.cpp
  korvelin/form/multipart.cpp
  korvelin/form/records.cpp
  korvelin/form/request_body.cpp
  korvelin/profile/access_key.cpp
  korvelin/profile/nickname.cpp
  korvelin/profile/validators.cpp
  korvelin/storage/error_page.cpp
  korvelin/storage/files.cpp
  korvelin/storage/internal/store_age.cpp
  korvelin/storage/internal/store_lock.cpp
  korvelin/storage/internal/write_text.cpp
  korvelin/storage/two_files.cpp
  korvelin/support/calendar.cpp
  korvelin/support/clock.cpp
  korvelin/support/internal/append.cpp
  korvelin/support/internal/journal_message.cpp
  korvelin/support/internal/open_regular.cpp
  korvelin/support/internal/read_up_to.cpp
  korvelin/support/internal/write_all.cpp
  korvelin/support/journal.cpp
  korvelin/text/edit.cpp
  korvelin/text/hex.cpp
)
# The counter's request handling, without its entry points (the CGI and FastCGI front ends;
# the fuzz build calls it directly).
set(KORVELIN_COUNTER_SOURCES
  counter/counter.cpp
  counter/environment.cpp
  counter/guards.cpp
  counter/hit_log.cpp
)
# counter-report, the hit report over the counters' logs, without its entry point
# (the fuzz build reads lines with it directly).
set(KORVELIN_REPORT_SOURCES
  report/address_set.cpp
  report/bar_chart.cpp
  report/csv_report.cpp
  report/days.cpp
  report/escape.cpp
  report/figures.cpp
  report/hit_line.cpp
  report/hit_logs.cpp
  report/html_report.cpp
  report/line_reader.cpp
  report/options.cpp
  report/report_input.cpp
  report/settings.cpp
  report/tally.cpp
  report/text_report.cpp
)

# korvelin_sources(<variable> <list>): the list with the repository root in front of each entry.
function(korvelin_sources variable)
  get_filename_component(root "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/.." ABSOLUTE)
  list(TRANSFORM ARGN PREPEND "${root}/" OUTPUT_VARIABLE paths)
  set(${variable} ${paths} PARENT_SCOPE)
endfunction()
