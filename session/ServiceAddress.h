// Where the service answers: its primary and backup base URLs (each an http
// URL whose path ends in "/do/") and its web site. The build sets the
// addresses; a run against a service elsewhere (a test's service on free
// ports) names others in the environment variables QUILL_SERVER_BASE_URL and
// QUILL_BACKUP_BASE_URL, read each time.
#pragma once

#include <string>

namespace quill::session {

std::wstring ServicePrimaryBaseUrl();
std::wstring ServiceBackupBaseUrl();

// The service's web site: the root of the primary base URL's host
// ("http://host:port/"); the login window's links open pages under it.
std::wstring ServiceSiteUrl();
// The site of any base URL: "http://host:port/do/" gives "http://host:port/".
std::wstring SiteOf(const std::wstring& base);

}  // namespace quill::session
