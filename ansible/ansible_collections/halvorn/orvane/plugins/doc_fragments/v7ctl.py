# -*- coding: utf-8 -*-
# The options every module of the collection takes: which host root and which v7ctl.
from __future__ import absolute_import, division, print_function
__metaclass__ = type


class ModuleDocFragment(object):
    DOCUMENTATION = r'''
options:
  root:
    description:
      - The host root to work on, passed to C(v7ctl) as C(V7_HOST_ROOT).
      - Without it C(v7ctl) chooses the host root as it does on the command line.
    type: path
  v7ctl:
    description:
      - The C(v7ctl) program to run; without it, C(v7ctl) as found on the managed host's PATH.
    type: path
notes:
  - Each module runs C(v7ctl --json) on the managed host and reports C(changed) as C(v7ctl) answers it.
  - A failure carries C(v7ctl)'s message as C(msg), its exit code as C(rc) and that code's meaning as
    C(reason), one of C(failed), C(usage), C(drivers-not-running), C(no-such-profile), C(refused),
    C(timed-out).
requirements:
  - v7ctl on the managed host (package orvane-v7)
'''
