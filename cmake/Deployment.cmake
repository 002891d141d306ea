# Deployment values of the vendor's service, compiled into config/Deployment.h.
# They default to the local dev service; the environment may override host, base URL
# and session port at run time (see platform/ServiceConfig).
set(KAVREN_VERSION_TEXT "2.1.2" CACHE STRING "Program version text")
set(KAVREN_SERVICE_HOST "127.0.0.1" CACHE STRING "Host name of the service")
set(KAVREN_FALLBACK_ADDRESS "127.0.0.1" CACHE STRING "IPv4 address used when the host does not resolve")
set(KAVREN_DEV_HTTP_PORT "60080" CACHE STRING "HTTP port of the local dev service")
set(KAVREN_BASE_URL "http://127.0.0.1:${KAVREN_DEV_HTTP_PORT}/" CACHE STRING "Base URL of the service pages (ends with /)")
set(KAVREN_SESSION_PORT "60001" CACHE STRING "TCP port of the session endpoint")
set(KAVREN_SUPPORT_SITE "http://127.0.0.1:${KAVREN_DEV_HTTP_PORT}/" CACHE STRING "Home page of the support site")
set(KAVREN_SUPPORT_NUMBER "400-000-0000" CACHE STRING "Support contact number shown in the settings page")

configure_file(${CMAKE_SOURCE_DIR}/config/Deployment.h.in ${CMAKE_BINARY_DIR}/generated/config/Deployment.h @ONLY)
