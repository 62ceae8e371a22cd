// The FastCGI front end's requests as the process environment.
#ifndef KORVELIN_COUNTER_FASTCGI_ENVIRONMENT_H
#define KORVELIN_COUNTER_FASTCGI_ENVIRONMENT_H

// The counter reads a request's values, and the error journal its name and client
// fields, from the process environment, as in a CGI run. While one of these lives, the
// environment is the request's FastCGI parameters (FCGX_Request::envp, "NAME=value"
// texts just like the environment's own): a variable the request lacks is absent,
// nothing of an earlier request remains, and nothing is copied.
class RequestEnvironment {
 public:
  explicit RequestEnvironment(char** parameters);
  ~RequestEnvironment();
  RequestEnvironment(const RequestEnvironment&) = delete;
  RequestEnvironment& operator=(const RequestEnvironment&) = delete;

 private:
  char** saved_;
};

#endif
