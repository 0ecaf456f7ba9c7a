# -*- coding: utf-8 -*-
# A user profile of the host, removed.
from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
module: profile
short_description: Remove a user profile from the host
description:
  - Removes a user profile with C(v7ctl remove-user --yes --missing-ok), as the control center's
    profile list does it; its folder, password file, password-list entry and registry key go.
  - A profile that is not there is left alone (C(changed=false)).
version_added: 1.20.0
options:
  name:
    description:
      - The user name, as C(v7ctl users) lists it.
    type: str
    required: true
  state:
    description:
      - C(absent) is the only state; profiles come from the users logging on.
    type: str
    choices: [absent]
    default: absent
  logged_on:
    description:
      - Remove the profile even when its user is logged on at the station.
    type: bool
    default: false
extends_documentation_fragment:
  - halvorn.orvane.v7ctl
attributes:
  check_mode:
    support: full
  diff_mode:
    support: full
author:
  - Halvorn
'''

EXAMPLES = r'''
- name: The guest's profile is gone
  halvorn.orvane.profile:
    name: guest
    state: absent
'''

RETURN = r'''
name:
  description: The user name.
  returned: success
  type: str
  sample: guest
'''

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.halvorn.orvane.plugins.module_utils.v7ctl import V7ctl, module_options


def main():
    module = AnsibleModule(
        argument_spec=module_options(
            name=dict(type='str', required=True),
            state=dict(type='str', default='absent', choices=['absent']),
            logged_on=dict(type='bool', default=False),
        ),
        supports_check_mode=True,
    )
    name = module.params['name']
    # "--" ends the options: a name starting with "-" is a name.
    args = ['remove-user', '--yes', '--missing-ok'] + (['--logged-on'] if module.params['logged_on'] else [])
    answer = V7ctl(module).change(args + ['--', name])
    changed = answer['changed']
    result = dict(changed=changed, name=name)
    if module._diff:
        result['diff'] = dict(before='profile %s: %s\n' % (name, 'present' if changed else 'absent'),
                              after='profile %s: absent\n' % name)
    module.exit_json(**result)


if __name__ == '__main__':
    main()
