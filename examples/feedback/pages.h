// The example's own pages: whole CGI responses in Windows-1251, header included.
#ifndef FEEDBACK_PAGES_H
#define FEEDBACK_PAGES_H

struct Feedback;

// The page with the two feedback forms, both posting back to this program.
void WriteFormPage();
// The page that thanks for a stored message and shows it.
void WriteThanksPage(const Feedback& feedback);
// The library's error page with title and hint and a link back to the form.
void WriteProblem(const char* title, const char* hint);

#endif
